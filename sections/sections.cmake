# The examination of the sections beside the ProgIDs (classes, type
# libraries, interfaces): portable, a part of the core.
target_sources(qob_core PRIVATE sections/SectionScan.cpp)
