#include "state/program_paths.h"

char g_szProgramDir[kMaxPathChars] = "";
char g_szSettingsDir[kMaxPathChars] = "";
const char g_szTitle[] = "Keldane Mirravox";
char g_szEffectsSoundFile[400 + 32] = "";
char g_sz3DContentFile[kMaxPathChars] = "";
