# GCC's undefined-behaviour set leaves out float-to-int overflow, which hides coordinate faults.
if(VELGRAPH_SANITIZE)
  add_compile_options(-fsanitize=address,undefined,float-cast-overflow -fno-omit-frame-pointer -fno-sanitize-recover=undefined,float-cast-overflow)
  add_link_options(-fsanitize=address,undefined,float-cast-overflow)
endif()
