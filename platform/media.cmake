# Media decoders of the platform layer: MP3 through libmpg123, videos through
# libavformat, libavcodec, libswscale and libswresample.
pkg_check_modules(MPG123 REQUIRED IMPORTED_TARGET libmpg123)
pkg_check_modules(LIBAV REQUIRED IMPORTED_TARGET libavformat libavcodec libswscale libswresample libavutil)
target_link_libraries(platform PUBLIC PkgConfig::MPG123 PkgConfig::LIBAV)

# The sample-content encoders of tools/gamekit need the gamekit target, which exists only
# once tools/ has been read: link them at the end of the top-level file.
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR}
  CALL include ${CMAKE_SOURCE_DIR}/tools/gamekit/audio.cmake OPTIONAL)
