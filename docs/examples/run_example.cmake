# Runs one of the guide's programs and compares its standard output with
# the expected output (cmake -DPROGRAM=... -DEXPECTED=... -DPICTURES=dir -P).
file(MAKE_DIRECTORY ${PICTURES})
execute_process(COMMAND ${PROGRAM} ${PICTURES} RESULT_VARIABLE status OUTPUT_VARIABLE out)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} exited with ${status}; output:\n${out}")
endif()
file(READ ${EXPECTED} expected)
if(NOT out STREQUAL expected)
  message(FATAL_ERROR "${PROGRAM}: output differs from ${EXPECTED}\n--- got:\n${out}--- expected:\n${expected}")
endif()
