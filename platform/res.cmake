# The data of res/ in tarvel_platform: the symbolic-id headers are generated
# while CMake configures (build/.../generated/res/resource.h, included as
# "res/resource.h"), the data files are compiled in at build time.
get_filename_component(TARVEL_RES_DIR ${CMAKE_CURRENT_LIST_DIR}/../res ABSOLUTE)
set(TARVEL_RES_GENERATED ${CMAKE_BINARY_DIR}/generated)

include(${TARVEL_RES_DIR}/cmake/resource_ids.cmake)
tarvel_generate_resource_ids(${TARVEL_RES_DIR} ${TARVEL_RES_GENERATED}/res)

file(GLOB_RECURSE tarvel_res_files CONFIGURE_DEPENDS
  ${TARVEL_RES_DIR}/*.tsv ${TARVEL_RES_DIR}/dialogs/*.dlg ${TARVEL_RES_DIR}/bitmaps/*
  ${TARVEL_RES_DIR}/png/* ${TARVEL_RES_DIR}/icons/*)
set(tarvel_res_embedded ${CMAKE_CURRENT_BINARY_DIR}/res_embedded.cpp)
add_custom_command(
  OUTPUT ${tarvel_res_embedded}
  COMMAND ${CMAKE_COMMAND} -DRES_DIR=${TARVEL_RES_DIR} -DOUT=${tarvel_res_embedded}
          -P ${TARVEL_RES_DIR}/cmake/embed.cmake
  DEPENDS ${tarvel_res_files} ${TARVEL_RES_DIR}/cmake/embed.cmake
  COMMENT "Embedding res/"
  VERBATIM)
target_sources(tarvel_platform PRIVATE ${tarvel_res_embedded})
target_include_directories(tarvel_platform PUBLIC ${TARVEL_RES_GENERATED})
