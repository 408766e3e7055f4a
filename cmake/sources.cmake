# Every component's sources, named once here for every tree, as absolute
# paths so that subdirectories and host tools take them as they are.
function(tarvelimunde_sources name)
  list(TRANSFORM ARGN PREPEND ${CMAKE_SOURCE_DIR}/)
  set(${name} ${ARGN} PARENT_SCOPE)
endfunction()

# The picture: in the shipped saver, the native build, the web page and the tools.
tarvelimunde_sources(SAVER_SOURCES
  saver/random.cpp
  saver/trig.cpp
  saver/colour_walk.cpp
  saver/animated_palette.cpp
  saver/curve.cpp
  saver/animation_driver.cpp
  saver/setup_dialog.cpp
  saver/display_verdict.cpp
)

# The host without its clock, which tests replace with a settable one.
tarvelimunde_sources(HOST_SOURCES_BUT_CLOCK
  host/close_protocol.cpp
  host/saver_window.cpp
  host/command_line.cpp
  host/crash_guard.cpp
  host/startup.cpp
  host/system_library.cpp
)
tarvelimunde_sources(HOST_CLOCK_SOURCES host/tick_count.cpp)
set(HOST_SOURCES ${HOST_SOURCES_BUT_CLOCK} ${HOST_CLOCK_SOURCES})
# Only in the shipped module: our own entry point, memory routines and
# description string stand in for the C runtime.
tarvelimunde_sources(SCR_ONLY_SOURCES
  host/process_start.cpp
  host/runtime.cpp
  host/module_identity.cpp
)
tarvelimunde_sources(TARVELIMUNDE_RC resources/tarvelimunde.rc)
tarvelimunde_sources(TARVELIMUNDE_DEF resources/tarvelimunde.def)

# What the picture draws on outside Windows: the stand-in for its Win32 calls,
# the 4-pixel pen and framebuffer with its memory and drawn tiles, the start
# sequence, the clock, and the plain default procedures.
tarvelimunde_sources(OFFSCREEN_SOURCES
  offscreen/offscreen.cpp
  offscreen/framebuffer.cpp
  offscreen/frame_memory.cpp
  offscreen/drawn_tiles.cpp
  offscreen/picture.cpp
  offscreen/calendar.cpp
  offscreen/default_procedures.cpp
)

# The replay tool: its images come from libpng and giflib natively, and are
# left out where those are not at hand.
tarvelimunde_sources(REPLAY_MAIN_SOURCES tools/replay/replay_main.cpp)
tarvelimunde_sources(REPLAY_SOURCES
  tools/replay/replay_options.cpp
  tools/replay/replay_run.cpp
  tools/replay/replay_progress.cpp
  tools/output/output_file.cpp
  tools/output/argument_text.cpp
)
tarvelimunde_sources(REPLAY_IMAGE_SOURCES tools/replay/replay_images.cpp)
tarvelimunde_sources(REPLAY_WITHOUT_IMAGE_SOURCES tools/replay/replay_without_images.cpp)
# Draws the icon at build time, with the picture's own curve and colours.
tarvelimunde_sources(ICON_TOOL_SOURCES tools/icons/make_icons.cpp tools/output/output_file.cpp)

# The XScreenSaver module; its options alone for the fuzzer.
tarvelimunde_sources(X11_OPTIONS_SOURCES x11/x11_options.cpp tools/output/argument_text.cpp)
tarvelimunde_sources(X11_SOURCES x11/x11_main.cpp x11/x11_window.cpp x11/x11_colours.cpp x11/x11_image.cpp
  x11/x11_display.cpp)
