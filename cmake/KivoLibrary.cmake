# AddressSanitizer and UndefinedBehaviorSanitizer on every target of the build: the first
# finding stops the program with its stack, so a test run cannot pass over it.
if(KIVO_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

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

# kivo_library(NAME DEPS...): one static library per source folder, built from every
# .cpp in that folder. Link dependencies follow the layering of the program, so a
# wrong-way include fails to link.
function(kivo_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  add_library(kivo_${name} STATIC ${sources})
  target_include_directories(kivo_${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(kivo_${name} PUBLIC ${ARG_DEPS})
  kivo_target_settings(kivo_${name})
endfunction()
