# When the source last changed, in seconds since 1970-01-01 UTC: the
# SOURCE_DATE_EPOCH of the environment where it is set (Debian's builders set
# it), otherwise the time of the last commit, otherwise the time of
# configuring. Dates written into the build come from it, so two builds of
# one commit give the same files.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(VORLINK_SOURCE_EPOCH $ENV{SOURCE_DATE_EPOCH})
else()
  find_package(Git QUIET)
  if(GIT_FOUND)
    execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct
      WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
      OUTPUT_VARIABLE VORLINK_SOURCE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE
      RESULT_VARIABLE vorlink_git_failed ERROR_QUIET)
  endif()
  if(NOT GIT_FOUND OR vorlink_git_failed OR NOT VORLINK_SOURCE_EPOCH MATCHES "^[0-9]+$")
    string(TIMESTAMP VORLINK_SOURCE_EPOCH "%s" UTC)
  endif()
endif()

# vorlink_source_date(VAR FORMAT): the source's date in a string(TIMESTAMP)
# format, UTC.
function(vorlink_source_date var format)
  set(saved "$ENV{SOURCE_DATE_EPOCH}")
  set(ENV{SOURCE_DATE_EPOCH} ${VORLINK_SOURCE_EPOCH})
  string(TIMESTAMP date "${format}" UTC)
  set(ENV{SOURCE_DATE_EPOCH} "${saved}")
  set(${var} "${date}" PARENT_SCOPE)
endfunction()
