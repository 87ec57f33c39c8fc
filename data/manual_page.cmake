# Writes OUT: the manual page IN with the roff of PART in place of its marker line.
# Run by the build (cmake -P).
file(READ ${IN} page)
file(READ ${PART} part)
string(FIND "${page}" ".\\\" TOOLS SECTION FROM THE GUIDE\n" at)
if(at LESS 0)
  message(FATAL_ERROR "${IN} has no marker for the tools section")
endif()
string(REPLACE ".\\\" TOOLS SECTION FROM THE GUIDE\n" "${part}" page "${page}")
file(WRITE ${OUT} "${page}")
