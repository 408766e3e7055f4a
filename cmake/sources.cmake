# Every component, declared once for every tree: an INTERFACE library that
# carries its sources and include folders. A target that links one compiles
# its sources with the target's own options; the native tree compiles them once
# into static libraries (native.cmake), as the Windows trees do for their tests.

# The picture: in the shipped saver, the native build, the web page and the tools.
add_library(setup_dialog INTERFACE)
target_sources(setup_dialog INTERFACE saver/setup_dialog.cpp)
target_include_directories(setup_dialog INTERFACE saver resources)
# What the setup dialog says of the display; a front end may give its own.
add_library(display_verdict INTERFACE)
target_sources(display_verdict INTERFACE saver/display_verdict.cpp)
target_include_directories(display_verdict INTERFACE saver resources)
add_library(picture INTERFACE)
target_sources(picture INTERFACE
  saver/random.cpp
  saver/trig.cpp
  saver/colour_walk.cpp
  saver/animated_palette.cpp
  saver/curve.cpp
  saver/animation_driver.cpp
)
target_include_directories(picture INTERFACE saver resources)
add_library(saver INTERFACE)
target_include_directories(saver INTERFACE saver resources)
target_link_libraries(saver INTERFACE picture setup_dialog display_verdict)

# The host without its clock, which tests replace with a settable one; its
# reading of the command line needs no window calls.
add_library(command_line INTERFACE)
target_sources(command_line INTERFACE host/command_line.cpp)
target_include_directories(command_line INTERFACE host)
add_library(host INTERFACE)
target_sources(host INTERFACE
  host/close_protocol.cpp
  host/saver_window.cpp
  host/crash_guard.cpp
  host/startup.cpp
  host/system_library.cpp
)
# It calls the picture and the setup dialog, and shares their platform header.
target_include_directories(host INTERFACE host saver resources)
target_link_libraries(host INTERFACE command_line)
# Only in the shipped module: our own entry point, memory routines and
# description string stand in for the C runtime.
add_library(process_start INTERFACE)
target_sources(process_start INTERFACE host/process_start.cpp host/runtime.cpp)
target_include_directories(process_start INTERFACE host)
add_library(scr_runtime INTERFACE)
target_sources(scr_runtime INTERFACE host/module_identity.cpp)
target_link_libraries(scr_runtime INTERFACE process_start)
# The module's resources, whose icon is drawn at build time (resources.cmake),
# and its export, named on the link line.
add_library(resources INTERFACE)
target_sources(resources INTERFACE resources/tarvelimunde.rc)
target_include_directories(resources INTERFACE resources ${CMAKE_BINARY_DIR}/resources)
add_library(exports INTERFACE)
target_link_options(exports INTERFACE ${CMAKE_SOURCE_DIR}/resources/tarvelimunde.def)
set_property(TARGET exports PROPERTY INTERFACE_LINK_DEPENDS ${CMAKE_SOURCE_DIR}/resources/tarvelimunde.def)

# What the picture draws on outside Windows: the stand-in for its Win32 calls,
# the 4-pixel pen and framebuffer with its memory and drawn tiles, the frames'
# pace and feed, the start sequence, the clock, and the plain default procedures.
add_library(offscreen_stand_in INTERFACE)
target_sources(offscreen_stand_in INTERFACE
  offscreen/offscreen.cpp
  offscreen/framebuffer.cpp
  offscreen/drawn_tiles.cpp
  offscreen/frame_pace.cpp
  offscreen/frame_feed.cpp
  offscreen/picture.cpp
  offscreen/calendar.cpp
)
target_include_directories(offscreen_stand_in INTERFACE offscreen)
# The frame's memory and the default procedures, which a front end on Windows
# takes from the system instead.
add_library(frame_memory INTERFACE)
target_sources(frame_memory INTERFACE offscreen/frame_memory.cpp)
target_include_directories(frame_memory INTERFACE offscreen)
add_library(default_procedures INTERFACE)
target_sources(default_procedures INTERFACE offscreen/default_procedures.cpp)
target_include_directories(default_procedures INTERFACE offscreen)
add_library(offscreen INTERFACE)
target_link_libraries(offscreen INTERFACE offscreen_stand_in frame_memory default_procedures)
target_include_directories(offscreen INTERFACE offscreen)

# Files written whole or not at all, for the replay tool and the icon tool.
add_library(output INTERFACE)
target_sources(output INTERFACE tools/output/output_file.cpp)
target_include_directories(output INTERFACE tools/output)
# The numbers and quoted names of the replay tool's and the module's options.
add_library(argument_text INTERFACE)
target_sources(argument_text INTERFACE offscreen/argument_text.cpp)
target_include_directories(argument_text INTERFACE offscreen)
# The replay tool: its images come from libpng and giflib natively, and are
# left out where those are not at hand.
add_library(replay_options INTERFACE)
target_sources(replay_options INTERFACE tools/replay/replay_options.cpp)
target_include_directories(replay_options INTERFACE tools/replay)
target_link_libraries(replay_options INTERFACE argument_text)
add_library(replay INTERFACE)
target_sources(replay INTERFACE
  tools/replay/replay_run.cpp
  tools/replay/replay_progress.cpp
)
target_include_directories(replay INTERFACE tools/replay)
target_link_libraries(replay INTERFACE replay_options output)
add_library(replay_main INTERFACE)
target_sources(replay_main INTERFACE tools/replay/replay_main.cpp)
add_library(replay_images INTERFACE)
target_sources(replay_images INTERFACE tools/replay/replay_images.cpp)
add_library(replay_without_images INTERFACE)
target_sources(replay_without_images INTERFACE tools/replay/replay_without_images.cpp)
# Draws the icon at build time, with the picture's own curve and colours.
add_library(icon_tool INTERFACE)
target_sources(icon_tool INTERFACE tools/icons/make_icons.cpp)

# The XScreenSaver module; its options alone for the fuzzer.
add_library(x11_options INTERFACE)
target_sources(x11_options INTERFACE x11/x11_options.cpp)
target_include_directories(x11_options INTERFACE x11)
target_link_libraries(x11_options INTERFACE argument_text)
add_library(x11_module INTERFACE)
target_sources(x11_module INTERFACE x11/x11_main.cpp x11/x11_window.cpp x11/x11_colours.cpp x11/x11_image.cpp
  x11/x11_display.cpp)
target_include_directories(x11_module INTERFACE x11)

# Components compiled once, with the tree's options, for the programs that link
# this static library; it passes their include folders on, not their sources.
function(tarvelimunde_static_library name)
  add_library(${name} STATIC)
  foreach(component IN LISTS ARGN)
    target_link_libraries(${name} PRIVATE ${component})
    target_include_directories(${name} PUBLIC $<TARGET_PROPERTY:${component},INTERFACE_INCLUDE_DIRECTORIES>)
  endforeach()
endfunction()
