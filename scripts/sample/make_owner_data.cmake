# Builds, beside the sample dictionary, one data file per owner of tables or
# views ("<stem>.<owner>.db"), which the SQLite connection attaches as schema
# <owner>: the owner's rows file from ROWS_DIR when there is one
# (sample-data-<owner>.sql), then every table and view of the dictionary the
# rows file does not create, so a table added to the dictionary is there too.
#   cmake -DSQLITE3=<sqlite3> -DDICTIONARY=<sample.db> -DROWS_DIR=<dir> -DSCRIPTS=<dir>
#         -DSTAMP=<file> -P make_owner_data.cmake
# Each file is built under a temporary name and renamed when complete.
cmake_policy(SET CMP0057 NEW)
get_filename_component(_dir "${DICTIONARY}" DIRECTORY)
get_filename_component(_stem "${DICTIONARY}" NAME_WE)
set(_work "${_dir}/${_stem}-data")
get_filename_component(_stamp_dir "${STAMP}" DIRECTORY)
file(MAKE_DIRECTORY "${_work}" "${_stamp_dir}")

execute_process(COMMAND "${SQLITE3}" -readonly "${DICTIONARY}"
                  "SELECT OWNER FROM ALL_TABLES UNION SELECT OWNER FROM ALL_OBJECT_TABLES UNION SELECT OWNER FROM ALL_VIEWS"
                OUTPUT_VARIABLE _owners RESULT_VARIABLE _rc ERROR_VARIABLE _err)
if(NOT _rc EQUAL 0)
  message(FATAL_ERROR "Reading the owners of ${DICTIONARY} failed: ${_err}")
endif()
string(REGEX MATCHALL "[^\n]+" _owners "${_owners}")

file(READ "${SCRIPTS}/owner_objects.sql" _generator)
string(REPLACE "'" "''" _dictionary_literal "${DICTIONARY}")
set(_kept)
foreach(_owner IN LISTS _owners)
  # The connection attaches only names it can write into ATTACH unquoted.
  if(NOT _owner MATCHES "^[A-Za-z][A-Za-z0-9_$#]*$")
    message(WARNING "The sample owner \"${_owner}\" gets no data file: its name is not a plain name.")
    continue()
  endif()
  string(TOLOWER "${_owner}" _lower)
  set(_db "${_dir}/${_stem}.${_lower}.db")
  set(_tmp "${_db}.tmp")
  set(OWNER "'${_owner}'")
  set(TABLES_SQL "${_work}/${_lower}.tables.sql")
  set(VIEWS_SQL "${_work}/${_lower}.views.sql")
  string(CONFIGURE "${_generator}" _owner_generator @ONLY)
  file(WRITE "${_work}/${_lower}.generate.sql"
       ".bail on\nATTACH DATABASE '${_dictionary_literal}' AS dict;\n.read \"${SCRIPTS}/sqlite_views.sql\"\n"
       "${_owner_generator}")
  set(_build ".bail on\nBEGIN;\n")
  if(EXISTS "${ROWS_DIR}/sample-data-${_lower}.sql")
    string(APPEND _build ".read \"${ROWS_DIR}/sample-data-${_lower}.sql\"\n")
  endif()
  string(APPEND _build ".read \"${TABLES_SQL}\"\nCOMMIT;\n")
  file(WRITE "${_work}/${_lower}.build.sql" "${_build}")

  file(REMOVE "${_tmp}")
  execute_process(COMMAND "${SQLITE3}" ":memory:" INPUT_FILE "${_work}/${_lower}.generate.sql"
                  RESULT_VARIABLE _rc ERROR_VARIABLE _err)
  if(_rc EQUAL 0)
    execute_process(COMMAND "${SQLITE3}" "${_tmp}" INPUT_FILE "${_work}/${_lower}.build.sql"
                    RESULT_VARIABLE _rc ERROR_VARIABLE _err)
  endif()
  if(NOT _rc EQUAL 0)
    file(REMOVE "${_tmp}")
    message(FATAL_ERROR "Building ${_db} failed: ${_err}")
  endif()
  # A view SQLite cannot run stays out; asking for it says the sample cannot answer.
  execute_process(COMMAND "${SQLITE3}" "${_tmp}" INPUT_FILE "${VIEWS_SQL}" ERROR_VARIABLE _err)
  if(_err)
    message(WARNING "Some views of ${_owner} are left out of ${_db}: ${_err}")
  endif()
  file(RENAME "${_tmp}" "${_db}")
  list(APPEND _kept "${_db}")
endforeach()

# The data file of an owner no longer in the dictionary would still be attached.
file(GLOB _old "${_dir}/${_stem}.*.db")
foreach(_file IN LISTS _old)
  if(NOT _file IN_LIST _kept)
    file(REMOVE "${_file}")
  endif()
endforeach()
file(TOUCH "${STAMP}")
