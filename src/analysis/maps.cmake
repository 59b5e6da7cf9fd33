# Electrode layouts, the Delaunay triangulation and interpolated maps, and
# the analyses built on them: conduction velocity, restitution, dispersion
# and their CSV texts. Qhull (reentrant C library) triangulates, Eigen
# solves the small least-squares fits; both stay private to the library.
find_package(Eigen3 3.4 REQUIRED NO_MODULE)
find_library(TELMOR_QHULL_R_LIBRARY NAMES qhull_r REQUIRED)
find_path(TELMOR_QHULL_R_INCLUDE_DIR NAMES libqhull_r/libqhull_r.h REQUIRED)

target_sources(telmor_analysis PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/beat_maps.cpp
  ${CMAKE_CURRENT_LIST_DIR}/conduction_velocity.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dispersion.cpp
  ${CMAKE_CURRENT_LIST_DIR}/maps_csv.cpp
  ${CMAKE_CURRENT_LIST_DIR}/restitution.cpp
  ${CMAKE_CURRENT_LIST_DIR}/scalar_map.cpp
  ${CMAKE_CURRENT_LIST_DIR}/triangulation.cpp
)
target_include_directories(telmor_analysis SYSTEM PRIVATE ${TELMOR_QHULL_R_INCLUDE_DIR})
target_link_libraries(telmor_analysis PRIVATE Eigen3::Eigen ${TELMOR_QHULL_R_LIBRARY})
