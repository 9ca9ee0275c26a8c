# Songs are decoded with libmpg123 and their beats heard with aubio (qztool sync, lyrics).
pkg_check_modules(MPG123 REQUIRED IMPORTED_TARGET libmpg123)
pkg_check_modules(AUBIO REQUIRED IMPORTED_TARGET aubio)
target_link_libraries(qztool PRIVATE PkgConfig::MPG123 PkgConfig::AUBIO)
