# Building a game for a web page with Emscripten: the link options every web
# program that uses Quillmar needs (the Quillmar target carries them), and
# quillmar_add_web_page(target), which writes <target>.html beside the
# program's .js and .wasm from Quillmar's page (web/shell.html).
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

# The page: from the source tree, or from the installed share/Quillmar.
if(EXISTS ${CMAKE_CURRENT_LIST_DIR}/../web/shell.html)
  set(QUILLMAR_WEB_SHELL ${CMAKE_CURRENT_LIST_DIR}/../web/shell.html)
else()
  get_filename_component(QUILLMAR_WEB_SHELL
    ${CMAKE_CURRENT_LIST_DIR}/../../../share/Quillmar/shell.html ABSOLUTE)
endif()

function(quillmar_add_web_page target)
  get_target_property(dir ${target} RUNTIME_OUTPUT_DIRECTORY)
  if(NOT dir)
    set(dir ${CMAKE_CURRENT_BINARY_DIR})
  endif()
  set(NAME ${target})
  configure_file(${QUILLMAR_WEB_SHELL} ${dir}/${target}.html @ONLY)
endfunction()
