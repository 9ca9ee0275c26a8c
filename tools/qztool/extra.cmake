# `qztool import` reads modelling programs' files with the Open Asset Import Library and
# turns their PNG pictures into JPEG (libpng to read, libjpeg through duzer to write).
find_package(assimp 5.2 REQUIRED)
find_package(PNG REQUIRED)
target_link_libraries(qztool PRIVATE assimp::assimp PNG::PNG)
# Songs are decoded with libmpg123 and their beats heard with aubio (qztool sync, lyrics).
pkg_check_modules(MPG123 REQUIRED IMPORTED_TARGET libmpg123)
pkg_check_modules(AUBIO REQUIRED IMPORTED_TARGET aubio)
target_link_libraries(qztool PRIVATE PkgConfig::MPG123 PkgConfig::AUBIO)
# The sync sheet is drawn with cairo.
target_link_libraries(qztool PRIVATE PkgConfig::CAIRO)
