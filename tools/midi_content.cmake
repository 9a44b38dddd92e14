# The two MIDI content files, written by our own generator (gen_midi.cpp),
# compiled for the build machine and run at build time.
#   add_midi_content(TARGET OUT_DIR): a target that puts ReggaeBeats.mid and
#   Intrigue.mid into OUT_DIR.
find_program(HOST_CXX NAMES c++ g++ REQUIRED NO_CMAKE_FIND_ROOT_PATH)
set(MIDI_GENERATOR_SOURCE ${CMAKE_CURRENT_LIST_DIR}/gen_midi.cpp)

function(add_midi_content target out_dir)
  set(gen ${CMAKE_BINARY_DIR}/host/gen_midi)
  if(NOT TARGET midi_generator)
    add_custom_command(OUTPUT ${gen}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/host
      COMMAND ${HOST_CXX} -std=c++17 -O2 ${MIDI_GENERATOR_SOURCE} -o ${gen}
      DEPENDS ${MIDI_GENERATOR_SOURCE}
      COMMENT "Building the MIDI generator for the build machine")
    add_custom_target(midi_generator DEPENDS ${gen})
  endif()
  add_custom_command(OUTPUT ${out_dir}/ReggaeBeats.mid ${out_dir}/Intrigue.mid
    COMMAND ${CMAKE_COMMAND} -E make_directory ${out_dir}
    COMMAND ${gen} ${out_dir}
    DEPENDS ${gen} midi_generator
    COMMENT "Writing ReggaeBeats.mid and Intrigue.mid")
  add_custom_target(${target} ALL DEPENDS ${out_dir}/ReggaeBeats.mid ${out_dir}/Intrigue.mid)
endfunction()
