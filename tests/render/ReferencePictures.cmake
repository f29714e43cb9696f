# Reference pictures: each test renders a shipped sample model with orx-render and
# compares the picture with tests/baselines/NAME.bmp. A pixel differs when one of its
# channels is more than ORX_PICTURE_TOLERANCE away; a test fails when more than
# ORX_PICTURE_MAX_PIXELS pixels differ (or the size differs), and leaves the picture and a
# difference picture (differing pixels in red) in build/tests/pictures/.
# tests/baselines/regenerate.sh renders all of them again as new baselines.

add_executable(orx-picture-compare ${CMAKE_CURRENT_SOURCE_DIR}/render/picture_compare.cpp)
set_target_properties(orx-picture-compare PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests
  AUTOMOC OFF)

set(ORX_PICTURE_SIZE 240x180)
# Room for rounding in another build of the software renderer; a model moved by one
# pixel along its edges or a changed shade exceeds both limits.
set(ORX_PICTURE_TOLERANCE 8)
set(ORX_PICTURE_MAX_PIXELS 20)
# A three-quarter view, so that turning about x and about y both show, a little nearer
# than the start view so that the model fills more of the small picture.
set(ORX_PICTURE_VIEW --angles 20,-35,0 --origin 0,0,-1.6)

# orx_render_test(NAME MODEL [orx-render options...])
function(orx_render_test NAME MODEL)
  add_test(NAME picture.${NAME}
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/render/reference.sh
      $<TARGET_FILE:orx-render> $<TARGET_FILE:orx-picture-compare>
      ${ORX_PROGRAM_DIR}/modelle/${MODEL} ${CMAKE_CURRENT_SOURCE_DIR}/baselines/${NAME}.bmp
      ${CMAKE_BINARY_DIR}/tests/pictures/${NAME}
      ${ORX_PICTURE_TOLERANCE} ${ORX_PICTURE_MAX_PIXELS} --size ${ORX_PICTURE_SIZE} ${ARGN})
  set_tests_properties(picture.${NAME} PROPERTIES LABELS picture TIMEOUT 60)
endfunction()

# Every sample model in every display mode (mode 4 with texture 1).
foreach(model eckregal kommode regal schrank tisch)
  foreach(mode 1 2 3 4)
    orx_render_test(${model}-mode${mode} ${model}3d.gl --mode ${mode} ${ORX_PICTURE_VIEW})
  endforeach()
endforeach()
foreach(mode 1 2 3 4)
  orx_render_test(teile-seite1-mode${mode} teile2d.gl --mode ${mode} ${ORX_PICTURE_VIEW})
endforeach()

# Lighting, in the solid and the textured mode, grey and coloured.
orx_render_test(schrank-mode3-light schrank3d.gl --mode 3 --light ${ORX_PICTURE_VIEW})
orx_render_test(schrank-mode4-light schrank3d.gl --mode 4 --light ${ORX_PICTURE_VIEW})
orx_render_test(kommode-coloured-light kommode3d.gl --mode 3 --coloured --light ${ORX_PICTURE_VIEW})
# Lighting has no effect on lines.
orx_render_test(regal-mode2-light regal3d.gl --mode 2 --light ${ORX_PICTURE_VIEW})

# Coloured shades.
orx_render_test(tisch-coloured tisch3d.gl --mode 3 --coloured ${ORX_PICTURE_VIEW})
orx_render_test(eckregal-coloured eckregal3d.gl --mode 3 --coloured ${ORX_PICTURE_VIEW})

# The design colours: each part in the colour of its record, unlit and lit.
orx_render_test(schrank-design-colours schrank3d.gl --design-colours ${ORX_PICTURE_VIEW})
orx_render_test(kommode-design-colours-light kommode3d.gl --design-colours --light ${ORX_PICTURE_VIEW})

# Two more textures: the jigsaw and the test pattern, whose letters show each face's
# texture direction.
orx_render_test(kommode-texture5 kommode3d.gl --mode 4 --texture 5 ${ORX_PICTURE_VIEW})
orx_render_test(eckregal-texture9 eckregal3d.gl --mode 4 --texture 9 ${ORX_PICTURE_VIEW})

# The far side with the test pattern: the second caps of the pentagonal and hexagonal
# prisms, with their own texture coordinates, face the camera only from behind.
orx_render_test(regal-far-side regal3d.gl --mode 4 --texture 9 --angles 20,145,0 --origin 0,0,-1.6)
orx_render_test(tisch-far-side tisch3d.gl --mode 4 --texture 9 --angles -25,145,0 --origin 0,0,-1.6)
orx_render_test(teile-seite6-far-side teile2d.gl --mode 4 --texture 9 --part 6 --angles 20,145,0 --origin 0,0,-1.6)

# Reference geometry: axis cross, walls, zero plane.
orx_render_test(tisch-axes-walls-zero tisch3d.gl --mode 3 --axes --walls --zero-plane ${ORX_PICTURE_VIEW})
orx_render_test(schrank-axes schrank3d.gl --mode 1 --axes ${ORX_PICTURE_VIEW})
orx_render_test(regal-walls-textured regal3d.gl --mode 4 --walls --texture 7 ${ORX_PICTURE_VIEW})
orx_render_test(tisch-zero-plane-coloured tisch3d.gl --mode 3 --coloured --zero-plane ${ORX_PICTURE_VIEW})

# Pages of the parts list; walls and zero plane frame only whole models.
orx_render_test(teile-seite5 teile2d.gl --mode 3 --part 5 --walls --zero-plane ${ORX_PICTURE_VIEW})
orx_render_test(teile-seite8-textured teile2d.gl --mode 4 --part 8 --texture 9 ${ORX_PICTURE_VIEW})
orx_render_test(teile-seite9-coloured teile2d.gl --mode 3 --part 9 --coloured --light ${ORX_PICTURE_VIEW})

# Camera: the start view, every angle with a shifted origin, and a model so near that
# the near plane cuts into it.
orx_render_test(schrank-front schrank3d.gl --mode 3)
orx_render_test(regal-turned-shifted regal3d.gl --mode 3 --coloured --angles 40,60,15 --origin 0.2,-0.1,-1.6)
orx_render_test(kommode-near kommode3d.gl --mode 3 --angles 10,-20,0 --origin 0,0,-1.25)
orx_render_test(tisch-background tisch3d.gl --mode 2 --background 40,60,90 ${ORX_PICTURE_VIEW})
