# The training run of a profile-guided build: the instrumented taluna-check checks
# the training texts in each output format and profile. The profile is written
# beside the build's objects; one left by an earlier run is removed first.
# Variables: CHECKER, WRITER, EXAMPLE, WORK, OBJECTS.
cmake_minimum_required(VERSION 3.25)
file(GLOB_RECURSE earlier "${OBJECTS}/*.gcda")
if(earlier)
  file(REMOVE ${earlier})
endif()
file(MAKE_DIRECTORY "${WORK}")
execute_process(COMMAND "${WRITER}" 2097152 "${WORK}/sound.gsd" "${WORK}/faulty.gsd" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "The training texts could not be written (${status})")
endif()
foreach(run "text;classic" "json;rev5" "gcc;auto" "sarif;classic")
  list(GET run 0 format)
  list(GET run 1 profile)
  execute_process(
    COMMAND "${CHECKER}" --jobs 1 --format ${format} --profile ${profile} "${WORK}/sound.gsd" "${WORK}/faulty.gsd"
            "${EXAMPLE}"
    OUTPUT_FILE "${WORK}/rows.${format}" RESULT_VARIABLE status)
  # 0: no error found, 1: errors found; anything else is a failure of the run.
  if(NOT status MATCHES "^[01]$")
    message(FATAL_ERROR "taluna-check failed on the training texts (${format}, ${profile}): ${status}")
  endif()
endforeach()
file(GLOB_RECURSE profile "${OBJECTS}/*.gcda")
list(LENGTH profile count)
if(count EQUAL 0)
  message(FATAL_ERROR "The training run wrote no profile")
endif()
message(STATUS "Training run: profile of ${count} objects")
