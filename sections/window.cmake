# The list of other broken registrations: its rows and the deletion of
# checked keys (portable, in the core).
target_sources(qob_core PRIVATE
  sections/BrokenKeyRows.cpp
  sections/SectionDeletion.cpp
)
