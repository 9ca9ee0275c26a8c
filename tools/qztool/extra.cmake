# `qztool import` reads modelling programs' files with the Open Asset Import Library and
# turns their PNG pictures into JPEG (libpng to read, libjpeg through duzer to write).
find_package(assimp 5.2 REQUIRED)
find_package(PNG REQUIRED)
target_link_libraries(qztool PRIVATE assimp::assimp PNG::PNG)
