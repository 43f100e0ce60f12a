# Checks that the manual pages of kalynth-calc (English and Russian) and
# `kalynth-calc --help` say the same things: every command, option, column
# and key that the help names is named on each page, and every option or
# column the pages name exists in the help.
#
#   cmake -DCALC=<kalynth-calc> -DPAGE_EN=<page> -DPAGE_RU=<page> -P man_matches_help.cmake
#
# Names are the ASCII words of the texts (the prose is Russian, so the
# ASCII words are the program's own names), compared as whole words after
# the page's roff markup is taken out. Single letters (Y, N, k as a
# variable) are left out of the comparison.

cmake_minimum_required(VERSION 3.25)

execute_process(COMMAND ${CALC} --help OUTPUT_VARIABLE help RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "kalynth-calc --help ended with ${rc}")
endif()

# Words of a text: options (--name), then names of two or more characters.
function(words text out)
  string(REGEX MATCHALL "--[a-z]+" options "${text}")
  string(REGEX REPLACE "--[a-z]+" " " rest "${text}")
  string(REGEX MATCHALL "[A-Za-z][A-Za-z0-9_]+" names "${rest}")
  set(all ${options} ${names})
  list(REMOVE_DUPLICATES all)
  set(${out} ${all} PARENT_SCOPE)
endfunction()

# The text of a manual page without its markup.
function(page_text file out)
  file(READ ${file} text)
  string(REGEX REPLACE "(^|\n)\\.[A-Z]+ ?" "\\1" text "${text}")  # requests: .TH .B .TP ...
  string(REGEX REPLACE "\\\\f[BIRP]" "" text "${text}")            # fonts
  string(REPLACE "\\-" "-" text "${text}")
  string(REPLACE "\\&" "" text "${text}")
  string(REGEX REPLACE "\\\\\\([a-zA-Z*][a-zA-Z]" " " text "${text}")  # \(em \(*D ...
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

words("${help}" help_words)
set(failures "")
foreach(page ${PAGE_EN} ${PAGE_RU})
  page_text(${page} text)
  words("${text}" page_words)
  foreach(w ${help_words})
    if(NOT w IN_LIST page_words)
      string(APPEND failures "${page}: does not name \"${w}\" of kalynth-calc --help\n")
    endif()
  endforeach()
  # Options and column names (words with an underscore) of the page must
  # exist in the help.
  foreach(w ${page_words})
    if(w MATCHES "^--" OR w MATCHES "_")
      if(NOT w IN_LIST help_words)
        string(APPEND failures "${page}: names \"${w}\", which kalynth-calc --help does not know\n")
      endif()
    endif()
  endforeach()
endforeach()

if(failures)
  message(FATAL_ERROR "The manual pages and kalynth-calc --help differ:\n${failures}")
endif()
list(LENGTH help_words n)
message(STATUS "The manual pages name all ${n} names of kalynth-calc --help")
