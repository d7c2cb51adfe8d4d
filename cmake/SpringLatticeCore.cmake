# The physics (model/) and the simulation core (window/: the lattice, the
# picture's pixels, slow motion's pace and the controls' texts), without Qt.
# A function, so that tests can build the same sources at other optimisation
# levels and show that the results do not depend on them.
function(springlattice_add_core target)
    add_library(${target} STATIC
        ${PROJECT_SOURCE_DIR}/model/checked.cpp
        ${PROJECT_SOURCE_DIR}/model/mass.cpp
        ${PROJECT_SOURCE_DIR}/model/runtime_error.cpp
        ${PROJECT_SOURCE_DIR}/model/spring.cpp
        ${PROJECT_SOURCE_DIR}/window/controltexts.cpp
        ${PROJECT_SOURCE_DIR}/window/pace.cpp
        ${PROJECT_SOURCE_DIR}/window/pixelpicture.cpp
        ${PROJECT_SOURCE_DIR}/window/simulation.cpp
    )
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
    target_compile_features(${target} PUBLIC cxx_std_20)
endfunction()
