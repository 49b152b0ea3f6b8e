# The Windows program's own resources: its icon, made from dist/icons, and
# its version resource (product, version, licence), compiled by windres.
# The screensaver's manifest comes in resources of its own.
find_program(TUNNEL_IMAGEMAGICK_CONVERT convert REQUIRED)
set(icon_sources ${PROJECT_SOURCE_DIR}/dist/icons/zelk-tunnel-256.png
    ${PROJECT_SOURCE_DIR}/dist/icons/zelk-tunnel-128.png
    ${PROJECT_SOURCE_DIR}/dist/icons/zelk-tunnel-64.png
    ${PROJECT_SOURCE_DIR}/dist/icons/zelk-tunnel-48.png)
set(windows_dir ${PROJECT_BINARY_DIR}/dist/windows)
# The painted sizes as they are, and the two small ones Explorer lists with
# scaled down from 64: one .ico holding 256, 128, 64, 48, 32 and 16.
add_custom_command(
  OUTPUT ${windows_dir}/zelk-tunnel.ico
  COMMAND ${CMAKE_COMMAND} -E make_directory ${windows_dir}
  COMMAND ${TUNNEL_IMAGEMAGICK_CONVERT} ${icon_sources}
          ( ${PROJECT_SOURCE_DIR}/dist/icons/zelk-tunnel-64.png -resize 32x32 )
          ( ${PROJECT_SOURCE_DIR}/dist/icons/zelk-tunnel-64.png -resize 16x16 )
          ${windows_dir}/zelk-tunnel.ico
  DEPENDS ${icon_sources}
  COMMENT "Making the Windows icon"
  VERBATIM)
# A target of its own: the program is defined in another folder, which sees
# no rule of this one.
add_custom_target(tunnel_windows_icon DEPENDS ${windows_dir}/zelk-tunnel.ico)
add_dependencies(tunnel tunnel_windows_icon)

string(REPLACE "." "," TUNNEL_VERSION_COMMAS "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0")
configure_file(${PROJECT_SOURCE_DIR}/dist/windows/version.h.in ${windows_dir}/version.h @ONLY)
target_sources(tunnel PRIVATE ${PROJECT_SOURCE_DIR}/dist/windows/resources.rc)
# The target is defined in app/, where source properties must be set.
set_source_files_properties(${PROJECT_SOURCE_DIR}/dist/windows/resources.rc TARGET_DIRECTORY tunnel PROPERTIES
  OBJECT_DEPENDS "${windows_dir}/zelk-tunnel.ico;${windows_dir}/version.h"
  INCLUDE_DIRECTORIES ${windows_dir})
