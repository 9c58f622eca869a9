# The list of other broken registrations: its rows, the deletion of checked
# keys, its report and the lines of a scripted clean-up (portable, in the core).
target_sources(qob_core PRIVATE
  sections/BrokenKeyRows.cpp
  sections/SectionDeletion.cpp
  sections/CsvReport.cpp
  sections/FixLines.cpp
)
