#pragma once
// FluidSynth, opened the first time music is set up rather than when the
// program starts. The library brings some forty others with it (PulseAudio,
// JACK, SDL, codecs); loading them before main() would hold back the first
// page by several milliseconds, while on the music's own set-up thread they
// load beside it.

#include <fluidsynth.h>

#include <string>

namespace vorn {

#define VORN_FLUID_FUNCTIONS(X)                                                                                        \
    X(fluid_set_log_function)                                                                                          \
    X(new_fluid_settings)                                                                                              \
    X(delete_fluid_settings)                                                                                           \
    X(fluid_settings_setnum)                                                                                           \
    X(fluid_settings_setint)                                                                                           \
    X(fluid_settings_setstr)                                                                                           \
    X(new_fluid_synth)                                                                                                 \
    X(delete_fluid_synth)                                                                                              \
    X(fluid_synth_get_internal_bufsize)                                                                                \
    X(fluid_synth_set_gain)                                                                                \
    X(fluid_synth_sfload)                                                                                              \
    X(fluid_synth_system_reset)                                                                                        \
    X(fluid_synth_all_sounds_off)                                                                                      \
    X(fluid_synth_program_change)                                                                                      \
    X(fluid_synth_unset_program)                                                                                       \
    X(fluid_synth_pin_preset)                                                                                          \
    X(fluid_synth_get_sfont_by_id)                                                                                     \
    X(fluid_synth_add_sfont)                                                                                           \
    X(fluid_synth_remove_sfont)                                                                                        \
    X(fluid_synth_sfunload)                                                                                            \
    X(new_fluid_defsfloader)                                                                                           \
    X(fluid_sfloader_set_callbacks)                                                                                    \
    X(fluid_synth_add_sfloader)                                                                                        \
    X(fluid_synth_write_float)                                                                                         \
    X(fluid_synth_process)                                                                                             \
    X(new_fluid_audio_driver2)                                                                                         \
    X(delete_fluid_audio_driver)                                                                                       \
    X(new_fluid_player)                                                                                                \
    X(delete_fluid_player)                                                                                             \
    X(fluid_player_add_mem)                                                                                            \
    X(fluid_player_play)                                                                                               \
    X(fluid_player_stop)                                                                                               \
    X(fluid_player_get_status)                                                                                         \
    X(fluid_player_get_total_ticks)                                                                                    \
    X(fluid_player_get_current_tick)                                                                                   \
    X(fluid_player_get_midi_tempo)

// The functions the player calls, each with the type the header declares.
struct FluidLibrary {
#define VORN_FLUID_POINTER(name) decltype(&::name) name = nullptr;
    VORN_FLUID_FUNCTIONS(VORN_FLUID_POINTER)
#undef VORN_FLUID_POINTER
};

// The library, opened on the first call from any thread and kept for the life
// of the program. Null when it cannot be opened or lacks a function; `why`
// then tells which.
const FluidLibrary* fluidLibrary(std::string& why);

} // namespace vorn
