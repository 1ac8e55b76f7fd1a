# Writes the reader's viewer.html: the viewer's page (TEMPLATE) with the reader's snippet
# (SNIPPET) where a packed page has its magazine, and no packed words. Run with cmake -P.
file(READ ${TEMPLATE} page)
file(READ ${SNIPPET} snippet)
foreach(mark "<!-- magazine -->" "<!-- words -->")
  string(FIND "${page}" "${mark}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${TEMPLATE} has no ${mark}")
  endif()
endforeach()
string(REPLACE "<!-- magazine -->" "${snippet}" page "${page}")
string(REPLACE "<!-- words -->" "" page "${page}")
file(WRITE ${OUT} "${page}")
