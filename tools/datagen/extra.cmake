# The soundtrack is encoded to MP3 with LAME.
target_link_libraries(datagen PRIVATE mp3lame)
