# Common compile settings for every Kivo target.
function(kivo_target_settings target)
  target_compile_definitions(${target} PRIVATE
    QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_FOREACH QT_NO_URL_CAST_FROM_STRING
    QT_NO_CAST_FROM_BYTEARRAY QT_USE_QSTRINGBUILDER)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wno-missing-field-initializers)
  if(KIVO_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# kivo_library(NAME DEPS...): the core library of one source folder, built from every .cpp
# in that folder: state, routines and SQL, with Qt Core and Gui only. Link dependencies
# follow the layering of the program, so a wrong-way include fails to link.
function(kivo_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  add_library(kivo_${name} STATIC ${sources})
  target_include_directories(kivo_${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(kivo_${name} PUBLIC ${ARG_DEPS})
  kivo_target_settings(kivo_${name})
  set_property(GLOBAL APPEND PROPERTY KIVO_CORE_TARGETS kivo_${name})
endfunction()

# kivo_ui_library(NAME DEPS...): the windows of an area (its ui/ folder), as kivo_NAME_ui.
function(kivo_ui_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  add_library(kivo_${name}_ui STATIC ${sources})
  target_include_directories(kivo_${name}_ui PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(kivo_${name}_ui PUBLIC ${ARG_DEPS} Qt6::Widgets)
  kivo_target_settings(kivo_${name}_ui)
endfunction()

# Collects every library a target links, directly or through other targets.
function(kivo_collect_links target result)
  set(seen ${${result}})
  get_target_property(links ${target} LINK_LIBRARIES)
  if(NOT links)
    set(links "")
  endif()
  get_target_property(interface ${target} INTERFACE_LINK_LIBRARIES)
  if(interface)
    list(APPEND links ${interface})
  endif()
  foreach(link ${links})
    if(NOT link IN_LIST seen)
      list(APPEND seen ${link})
      if(TARGET ${link})
        kivo_collect_links(${link} seen)
      endif()
    endif()
  endforeach()
  set(${result} ${seen} PARENT_SCOPE)
endfunction()

# A core library (and anything else named) must not reach Qt Widgets: logic that opens a
# window fails the configuration here instead of creeping into the engine.
function(kivo_forbid_widgets)
  get_property(targets GLOBAL PROPERTY KIVO_CORE_TARGETS)
  foreach(target ${targets} ${ARGN})
    set(links "")
    kivo_collect_links(${target} links)
    foreach(link ${links})
      if(link MATCHES "Widgets")
        message(FATAL_ERROR "${target} links ${link}: core libraries and kivo-admin must not use Qt Widgets")
      endif()
    endforeach()
  endforeach()
endfunction()
