# Building a game for a web page with Emscripten: the link options every web
# program that uses Quillmar needs (the Quillmar target carries them), and
# quillmar_add_web_page(target [ASSETS folder...]), which writes
# <target>.html beside the program's .js and .wasm from Quillmar's page
# (web/shell.html) and packs the asset folders into <target>.data.
#
# - GLFW 3 is Emscripten's own JavaScript library over one canvas;
# - OpenGL 1.x is Emscripten's legacy GL emulation over WebGL, with what it
#   lacks filled in by Quillmar's library_quillmar_gl.js (given with
#   --js-library by the target, since its path differs once installed);
# - Asyncify lets the swap wait for the browser's next frame inside the
#   game's own while (IsOpen()) loop, so that loop runs unchanged;
# - the runtime exits when main returns (destructors, the exit status on
#   the page), and memory grows as the game needs.
set(QM_WEB_LINK_OPTIONS
  "SHELL:-s USE_GLFW=3" "SHELL:-s LEGACY_GL_EMULATION=1" "SHELL:-s ASYNCIFY=1"
  "SHELL:-s ALLOW_MEMORY_GROWTH=1" "SHELL:-s EXIT_RUNTIME=1"
  "SHELL:-s EXPORTED_RUNTIME_METHODS=FS")
# Quillmar's own JavaScript, in web/ (installed in share/Quillmar): libraries
# given with --js-library, then what runs before the program's own start-up
# (--pre-js). The Quillmar target names them by path.
set(QM_WEB_JS_LIBRARIES library_quillmar_gl.js library_quillmar_page.js)
set(QM_WEB_PRE_JS pre_quillmar.js)

# The page and the JavaScript: from the source tree, or from the installed
# share/Quillmar.
if(EXISTS ${CMAKE_CURRENT_LIST_DIR}/../web/shell.html)
  get_filename_component(QUILLMAR_WEB_DIR ${CMAKE_CURRENT_LIST_DIR}/../web ABSOLUTE)
else()
  get_filename_component(QUILLMAR_WEB_DIR ${CMAKE_CURRENT_LIST_DIR}/../../../share/Quillmar ABSOLUTE)
endif()
set(QUILLMAR_WEB_SHELL ${QUILLMAR_WEB_DIR}/shell.html)

# ASSETS: folders whose files the program opens by relative paths, as it
# does on the desktop when run from the folder that holds them. Each is
# packed, files and subfolders, into <target>.data, which the page loads
# before main starts: a folder given as assets (relative to the calling
# CMakeLists.txt) or as /any/where/assets is read in the page as "assets/...".
function(quillmar_add_web_page target)
  cmake_parse_arguments(PARSE_ARGV 1 QM_PAGE "" "" "ASSETS")
  if(QM_PAGE_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "quillmar_add_web_page: unknown arguments ${QM_PAGE_UNPARSED_ARGUMENTS}")
  endif()
  get_target_property(dir ${target} RUNTIME_OUTPUT_DIRECTORY)
  if(NOT dir)
    set(dir ${CMAKE_CURRENT_BINARY_DIR})
  endif()
  set(NAME ${target})
  configure_file(${QUILLMAR_WEB_SHELL} ${dir}/${target}.html @ONLY)
  foreach(folder ${QM_PAGE_ASSETS})
    get_filename_component(folder ${folder} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    if(NOT IS_DIRECTORY ${folder})
      message(FATAL_ERROR "quillmar_add_web_page(${target}): asset folder ${folder} not found")
    endif()
    get_filename_component(name ${folder} NAME)
    # One SHELL: group per folder: CMake would merge repeated bare
    # --preload-file options into one.
    target_link_options(${target} PRIVATE "SHELL:--preload-file \"${folder}@/${name}\"")
    # The page is packed again when a file changes, or one is added.
    file(GLOB_RECURSE files CONFIGURE_DEPENDS ${folder}/*)
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${files})
  endforeach()
  # The program is linked again when Quillmar's JavaScript changes.
  foreach(js ${QM_WEB_JS_LIBRARIES} ${QM_WEB_PRE_JS})
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${QUILLMAR_WEB_DIR}/${js})
  endforeach()
endfunction()
