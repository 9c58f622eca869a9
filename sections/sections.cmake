# The examination of the sections beside the ProgIDs (classes, type
# libraries, interfaces) and of the shell extension handlers and file types
# below the root's keys: portable, a part of the core. Each kind of key has
# its verdict's unit and a row in SectionKinds.cpp.
target_sources(qob_core PRIVATE
  sections/VerdictSupport.cpp
  sections/ClassVerdict.cpp
  sections/TypeLibraryVerdict.cpp
  sections/InterfaceVerdict.cpp
  sections/HandlerVerdict.cpp
  sections/FileTypeVerdict.cpp
  sections/SectionKinds.cpp
  sections/SectionLines.cpp
  sections/SectionScan.cpp
)
