# The polygon clipper: self-contained, needs only the host allocator.
file(GLOB VT_CLIP_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.cpp)
