# Stills and frames can be written as PNG.
target_link_libraries(velvet-render PRIVATE PNG::PNG)
