# Native build: the core's unit tests and the contract suite against the
# in-memory implementations.
include(GoogleTest)
include(forms/forms.cmake)

add_library(qob_testsupport STATIC
  tests/support/MemoryKeyStore.cpp
  tests/support/MemoryPlatform.cpp
  tests/support/MemoryKeyTree.cpp
)
qob_target(qob_testsupport)
target_link_libraries(qob_testsupport PUBLIC qob_core)

add_executable(unit_tests
  tests/unit/TreeModelTest.cpp
  tests/unit/ScanTest.cpp
  tests/unit/SectionScanTest.cpp
  tests/unit/ScanPacingTest.cpp
  tests/unit/SharedReaderTest.cpp
  tests/unit/ServerPathTest.cpp
  tests/unit/ErrorTextTest.cpp
  tests/unit/MessageDialogLayoutTest.cpp
  tests/unit/CursorStateTest.cpp
  tests/unit/BackupFormatTest.cpp
  tests/unit/RemovalTest.cpp
  tests/unit/RemovalKeyQuestionTest.cpp
  tests/unit/SearchTest.cpp
  tests/unit/ProgramFolderTest.cpp
  tests/unit/TextsTest.cpp
  tests/unit/Utf8Test.cpp
  tests/unit/RestoreCheckTest.cpp
  tests/unit/BackupListTest.cpp
  tests/unit/SectionDeletionTest.cpp
  tests/unit/EntryRefreshTest.cpp
  tests/unit/KeyDeletionTest.cpp
  tests/unit/ElevationTest.cpp
)
qob_target(unit_tests)
target_link_libraries(unit_tests PRIVATE qob_testsupport qob_forms_core GTest::gtest_main)
gtest_discover_tests(unit_tests)

add_executable(contract_tests
  tests/contract/KeyStoreContract.cpp
  tests/contract/KeyOwnerContract.cpp
  tests/contract/MemoryFixtures.cpp
)
qob_target(contract_tests)
target_link_libraries(contract_tests PRIVATE qob_testsupport GTest::gtest_main)
gtest_discover_tests(contract_tests TEST_PREFIX memory.)

# The scan benchmark's native program (tools/bench/scan_bench.sh); not a test.
add_executable(NativeScanBench tools/bench/NativeScanBench.cpp)
qob_target(NativeScanBench)
target_link_libraries(NativeScanBench PRIVATE qob_testsupport)

# The folders include one way, and no source is over 500 lines (README, Layout).
add_test(NAME layout.check COMMAND ${PROJECT_SOURCE_DIR}/tools/check_layout.sh)
