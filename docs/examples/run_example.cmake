# Runs one of the guide's programs and compares its standard output with
# the expected output (cmake -DPROGRAM=... -DEXPECTED=... -DPICTURES=dir -P).
# A cross-built program runs through EMULATOR (Wine), and its text-mode
# line ends (CR LF) are compared as LF.
file(MAKE_DIRECTORY ${PICTURES})
execute_process(COMMAND ${EMULATOR} ${PROGRAM} ${PICTURES} RESULT_VARIABLE status OUTPUT_VARIABLE out)
if(EMULATOR)
  string(REPLACE "\r\n" "\n" out "${out}")
endif()
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} exited with ${status}; output:\n${out}")
endif()
file(READ ${EXPECTED} expected)
if(NOT out STREQUAL expected)
  message(FATAL_ERROR "${PROGRAM}: output differs from ${EXPECTED}\n--- got:\n${out}--- expected:\n${expected}")
endif()
