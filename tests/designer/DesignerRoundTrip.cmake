# The designer program as a user runs it: the palette lists the graph's page and writes its
# image, a new form is saved, opened and saved again byte for byte the same, rendered to PNG,
# events keep their handlers' names, and a broken form file is refused naming its line.
#   cmake -DDESIGNER=<velgraph-designer> -DWORK_DIR=<folder> -P DesignerRoundTrip.cmake

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})

function(designer expected_result)
  execute_process(COMMAND ${DESIGNER} ${ARGN} WORKING_DIRECTORY ${WORK_DIR} RESULT_VARIABLE result
                  OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT result EQUAL expected_result)
    message(FATAL_ERROR "velgraph-designer ${ARGN}: exit ${result}, expected ${expected_result}\n${out}${err}")
  endif()
  set(designer_output "${out}${err}" PARENT_SCOPE)
endfunction()

function(expect_in text wanted)
  string(FIND "${text}" "${wanted}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "expected '${wanted}' in:\n${text}")
  endif()
endfunction()

designer(0 palette --images .)
expect_in("${designer_output}" "NordaGraph: TVelWorldGraph\n")
file(READ ${WORK_DIR}/TVELWORLDGRAPH.png png HEX LIMIT 24)
# The PNG signature, then the header chunk's width and height: 28 x 28.
if(NOT png MATCHES "^89504e470d0a1a0a0000000d494844520000001c0000001c$")
  message(FATAL_ERROR "the palette image is not a 28 x 28 PNG: ${png}")
endif()

designer(0 new first.vfm --size 500x400 --png first.png)
designer(0 open first.vfm --save second.vfm)
designer(0 open second.vfm --save third.vfm --png third.png)
file(READ ${WORK_DIR}/first.vfm first)
file(READ ${WORK_DIR}/second.vfm second)
file(READ ${WORK_DIR}/third.vfm third)
expect_in("${first}" "object Form1: TForm\n  Left = 0\n  Top = 0\n  Width = 500\n  Height = 400\n")
expect_in("${first}" "  object VelWorldGraph1: TVelWorldGraph\n")
if(NOT first STREQUAL second OR NOT second STREQUAL third)
  message(FATAL_ERROR "saving an opened form changed it:\n${first}\n---\n${second}\n---\n${third}")
endif()
file(SHA256 ${WORK_DIR}/first.png first_png)
file(SHA256 ${WORK_DIR}/third.png third_png)
if(NOT first_png STREQUAL third_png)
  message(FATAL_ERROR "the opened form renders differently from the one saved")
endif()

# The designer has no code behind the form: named handlers are kept as they are.
file(WRITE ${WORK_DIR}/events.vfm "object Form1: TForm\n  OnPaint = FormPaint\n  object G: TVelWorldGraph\n    OnMouseDown = GMouseDown\n  end\nend\n")
designer(0 open events.vfm --save events2.vfm)
file(READ ${WORK_DIR}/events2.vfm events)
expect_in("${events}" "  OnPaint = FormPaint\n")
expect_in("${events}" "    OnMouseDown = GMouseDown\n")

file(WRITE ${WORK_DIR}/broken.vfm "object Form1: TForm\n  object G: TVelWorldGraph\n    XMin = wide\n  end\nend\n")
designer(1 open broken.vfm --save never.vfm)
expect_in("${designer_output}" "Line 3: XMin:")
if(EXISTS ${WORK_DIR}/never.vfm)
  message(FATAL_ERROR "a form that failed to open was saved")
endif()
designer(1 --package ${WORK_DIR}/first.vfm palette)
expect_in("${designer_output}" "Cannot load package")
designer(2 frobnicate)
