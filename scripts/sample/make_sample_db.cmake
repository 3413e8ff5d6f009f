# Builds one SQLite database from SQL files, in order, with the sqlite3 shell:
#   cmake -DSQLITE3=<sqlite3> -DOUTPUT=<file.db> -DINPUTS=<a.sql|b.sql> -P make_sample_db.cmake
# The database is built under a temporary name and renamed when complete, so a
# failed build never leaves a half-filled database behind.
set(_tmp "${OUTPUT}.tmp")
set(_sql "${OUTPUT}.sql")
file(REMOVE "${_tmp}" "${_sql}")
file(WRITE "${_sql}" "BEGIN;\n")
string(REPLACE "|" ";" _inputs "${INPUTS}")
foreach(_in IN LISTS _inputs)
  file(READ "${_in}" _text)
  file(APPEND "${_sql}" "${_text}\n")
endforeach()
file(APPEND "${_sql}" "COMMIT;\n")
execute_process(COMMAND "${SQLITE3}" -bail "${_tmp}" INPUT_FILE "${_sql}"
                RESULT_VARIABLE _rc ERROR_VARIABLE _err)
file(REMOVE "${_sql}")
if(NOT _rc EQUAL 0)
  file(REMOVE "${_tmp}")
  message(FATAL_ERROR "Building ${OUTPUT} failed: ${_err}")
endif()
file(RENAME "${_tmp}" "${OUTPUT}")
