# Every component, declared once for every tree: an INTERFACE library that
# carries its sources and include folders. A target that links one compiles
# its sources with the target's own options; the native tree compiles them once
# into static libraries (native.cmake), as the Windows trees do for their tests.

# A component: its sources, include folders and the components it takes in.
function(component name)
  cmake_parse_arguments(ARG "" "" "SOURCES;INCLUDES;LINKS" ${ARGN})
  add_library(${name} INTERFACE)
  target_sources(${name} INTERFACE ${ARG_SOURCES})
  target_include_directories(${name} INTERFACE ${ARG_INCLUDES})
  target_link_libraries(${name} INTERFACE ${ARG_LINKS})
endfunction()

# The picture: in the shipped saver, the native build, the web page and the tools.
component(setup_dialog SOURCES saver/setup_dialog.cpp INCLUDES saver resources)
# What the setup dialog says of the display; a front end may give its own.
component(display_verdict SOURCES saver/display_verdict.cpp INCLUDES saver resources)
component(picture INCLUDES saver resources SOURCES
  saver/random.cpp saver/trig.cpp saver/colour_walk.cpp saver/animated_palette.cpp saver/curve.cpp
  saver/animation_driver.cpp)
component(saver INCLUDES saver resources LINKS picture setup_dialog display_verdict)

# The host without its clock, which tests replace with a settable one; its
# reading of the command line needs no window calls.
component(command_line SOURCES host/command_line.cpp INCLUDES host)
# The host calls the picture and the setup dialog, and shares their platform header.
component(host INCLUDES host saver resources LINKS command_line SOURCES
  host/close_protocol.cpp host/saver_window.cpp host/crash_guard.cpp host/startup.cpp host/system_library.cpp)
# Only in the shipped module: our own entry point, memory routines and
# description string stand in for the C runtime.
component(process_start SOURCES host/process_start.cpp host/runtime.cpp INCLUDES host)
component(scr_runtime SOURCES host/module_identity.cpp LINKS process_start)
# The module's resources, whose icon is drawn at build time (resources.cmake),
# and its export, named on the link line.
component(resources SOURCES resources/tarvelimunde.rc INCLUDES resources ${CMAKE_BINARY_DIR}/resources)
add_library(exports INTERFACE)
target_link_options(exports INTERFACE ${CMAKE_SOURCE_DIR}/resources/tarvelimunde.def)
set_property(TARGET exports PROPERTY INTERFACE_LINK_DEPENDS ${CMAKE_SOURCE_DIR}/resources/tarvelimunde.def)

# What the picture draws on outside Windows: the stand-in for its Win32 calls,
# the 4-pixel pen and framebuffer with its memory and drawn tiles, the frames'
# pace and feed, the start sequence, the clock, and the plain default procedures.
component(offscreen_stand_in INCLUDES offscreen SOURCES
  offscreen/offscreen.cpp offscreen/framebuffer.cpp offscreen/drawn_tiles.cpp offscreen/frame_pace.cpp
  offscreen/frame_feed.cpp offscreen/picture.cpp offscreen/calendar.cpp)
# The frame's memory and the default procedures, which a front end on Windows
# takes from the system instead.
component(frame_memory SOURCES offscreen/frame_memory.cpp INCLUDES offscreen)
component(default_procedures SOURCES offscreen/default_procedures.cpp INCLUDES offscreen)
component(offscreen INCLUDES offscreen LINKS offscreen_stand_in frame_memory default_procedures)

# Files written whole or not at all, for the replay tool and the icon tool.
component(output SOURCES tools/output/output_file.cpp INCLUDES tools/output)
# The numbers and quoted names of the replay tool's and the module's options.
component(argument_text SOURCES offscreen/argument_text.cpp INCLUDES offscreen)
# The replay tool: its images come from libpng and giflib natively, and are
# left out where those are not at hand.
component(replay_options SOURCES tools/replay/replay_options.cpp INCLUDES tools/replay LINKS argument_text)
component(replay
  SOURCES tools/replay/replay_run.cpp tools/replay/replay_progress.cpp
  INCLUDES tools/replay
  LINKS replay_options output)
component(replay_main SOURCES tools/replay/replay_main.cpp)
component(replay_images SOURCES tools/replay/replay_images.cpp)
component(replay_without_images SOURCES tools/replay/replay_without_images.cpp)
# Draws the icon at build time, with the picture's own curve and colours.
component(icon_tool SOURCES tools/icons/make_icons.cpp)

# What every Linux front end takes alike: its options, and its loop's clock and signals.
component(picture_options SOURCES offscreen/picture_options.cpp INCLUDES offscreen LINKS argument_text)
component(front_end_loop SOURCES offscreen/front_end_loop.cpp INCLUDES offscreen)
# The XScreenSaver module; its options alone for the fuzzer.
component(x11_options SOURCES x11/x11_options.cpp INCLUDES x11 LINKS picture_options)
component(x11_module
  SOURCES x11/x11_main.cpp x11/x11_window.cpp x11/x11_colours.cpp x11/x11_image.cpp x11/x11_display.cpp
  INCLUDES x11
  LINKS front_end_loop)
# The Wayland client; its options alone for the fuzzer.
component(wayland_options SOURCES wayland/wayland_options.cpp INCLUDES wayland LINKS picture_options)
component(wayland_client
  SOURCES wayland/wayland_main.cpp wayland/wayland_registry.cpp wayland/wayland_input.cpp
    wayland/wayland_surfaces.cpp wayland/wayland_buffers.cpp
  INCLUDES wayland
  LINKS front_end_loop)

# Components compiled once, with the tree's options, for the programs that link
# this static library; it passes their include folders on, not their sources.
function(tarvelimunde_static_library name)
  add_library(${name} STATIC)
  foreach(component IN LISTS ARGN)
    target_link_libraries(${name} PRIVATE ${component})
    target_include_directories(${name} PUBLIC $<TARGET_PROPERTY:${component},INTERFACE_INCLUDE_DIRECTORIES>)
  endforeach()
endfunction()
