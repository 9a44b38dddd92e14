// Access to the parameter records: the record of a kind, a row's field, the
// integer fields of the radio groups, and the hand-over of a record to a
// live effect.
#pragma once

#include <cstddef>
#include <cstdint>

#include "dxtests/effect_table.h"
#include "dxtests/effect_types.h"

// The record of one kind inside the set (null for a kind out of range).
void* EffectRecord(EffectParameterSet& set, int32_t kind);
const void* EffectRecord(const EffectParameterSet& set, int32_t kind);
size_t EffectRecordSize(int32_t kind);

// The record field of a row as a float (Gargle's integer rate converted).
float RowValue(const void* record, const EffectParameterRow& row);
// Stores value into the row's field; Gargle's rate is truncated toward zero.
void StoreRowValue(void* record, const EffectParameterRow& row, float value);
int32_t LoadRecordInt(const void* record, uint32_t offset);
void StoreRecordInt(void* record, uint32_t offset, int32_t value);

// Brings every field of a record into its legal range: each row's value
// into min..max (a value that is not a number becomes min), the waveform,
// phase and pan fields to the nearest value the effect knows.
void ClampEffectRecord(int32_t kind, void* record);
// Hands a clamped copy of the record to the live effect's SetAllParameters;
// the record itself keeps what it holds. Returns the effect's answer.
HResult ApplyEffectRecord(int32_t kind, void* effect, const void* record);
