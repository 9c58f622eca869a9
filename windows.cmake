# Windows build (mingw-w64): the programs, and the contract suite and the
# end-to-end tests, which run under Wine.

# Tests of the Windows build run under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/tests/wine/winerun.sh)

add_library(qob_win32 STATIC catalogue/Win32Platform.cpp catalogue/Win32Text.cpp)
qob_target(qob_win32)
target_link_libraries(qob_win32 PUBLIC qob_core)

# The backup made before each deletion of a removal, and its restore.
add_library(qob_backup STATIC removal/Win32Backup.cpp removal/Restore.cpp)
qob_target(qob_backup)
target_link_libraries(qob_backup PUBLIC qob_win32 shell32)

include(forms/forms.cmake)
include(app/app.cmake OPTIONAL)

include(console/console.cmake)

# The scan benchmark's probe (tools/bench/scan_bench.sh); not a test.
add_executable(WineScanBench tools/bench/WineScanBench.cpp)
qob_target(WineScanBench)
target_link_libraries(WineScanBench PRIVATE qob_win32 psapi)

add_executable(contract_tests
  tests/contract/KeyStoreContract.cpp
  tests/contract/KeyOwnerContract.cpp
  tests/contract/Win32Fixtures.cpp
)
qob_target(contract_tests)
target_link_libraries(contract_tests PRIVATE qob_win32 qob_backup GTest::gtest_main)
add_test(NAME wine.contract_tests COMMAND contract_tests)

set(QOB_WINE_TESTS ${PROJECT_SOURCE_DIR}/tests/wine)
set(QOB_FIXTURES ${PROJECT_SOURCE_DIR}/tests/fixtures)
file(GLOB QOB_SCAN_FIXTURES RELATIVE ${QOB_FIXTURES} CONFIGURE_DEPENDS
  ${QOB_FIXTURES}/*.tree ${QOB_FIXTURES}/*.gen.py)
# Each fixture with a tree (NAME.tree) or a generator under the Japanese
# locale, in code page 932 (wine.scan.NAME); those with a tree for --utf8
# (NAME.utf8.tree) and the catalogue with --utf8 under the Japanese and the
# English locale (wine.scan.utf8.NAME).
set(QOB_WINE_TEST_NAMES wine.contract_tests)
set(QOB_UTF8_FIXTURES catalogue)
foreach(file ${QOB_SCAN_FIXTURES})
  string(REGEX REPLACE "\\..*" "" fixture ${file})
  if(file MATCHES "\\.utf8\\.tree$")
    list(APPEND QOB_UTF8_FIXTURES ${fixture})
    continue()
  endif()
  add_test(NAME wine.scan.${fixture}
    COMMAND ${QOB_WINE_TESTS}/scan_fixtures.sh $<TARGET_FILE:QobTessavinScan> ${QOB_FIXTURES} ${fixture})
  list(APPEND QOB_WINE_TEST_NAMES wine.scan.${fixture})
endforeach()
foreach(fixture ${QOB_UTF8_FIXTURES})
  add_test(NAME wine.scan.utf8.${fixture}
    COMMAND ${QOB_WINE_TESTS}/scan_fixtures.sh --utf8 $<TARGET_FILE:QobTessavinScan> ${QOB_FIXTURES} ${fixture})
  list(APPEND QOB_WINE_TEST_NAMES wine.scan.utf8.${fixture})
endforeach()
# The examination of the classes, type libraries and interfaces.
add_test(NAME wine.sections
  COMMAND ${QOB_WINE_TESTS}/sections_fixture.sh $<TARGET_FILE:QobTessavinScan> ${QOB_FIXTURES})
list(APPEND QOB_WINE_TEST_NAMES wine.sections)
# One prefix and one desktop: the tests under Wine run one at a time.
set_tests_properties(${QOB_WINE_TEST_NAMES} PROPERTIES RUN_SERIAL TRUE)

# The backup's round trip under Wine: backed up, deleted, restored.
add_executable(BackupProbe tests/wine/BackupProbe.cpp)
qob_target(BackupProbe)
target_link_libraries(BackupProbe PRIVATE qob_backup)
add_test(NAME wine.backup
  COMMAND ${QOB_WINE_TESTS}/backup_roundtrip.sh $<TARGET_FILE:QobTessavinScan> $<TARGET_FILE:BackupProbe>
          ${QOB_FIXTURES}/backup.reg)
set_tests_properties(wine.backup PROPERTIES RUN_SERIAL TRUE)

# The token and the restart as administrator under Wine.
add_executable(ElevationProbe tests/wine/ElevationProbe.cpp extras/Win32Elevation.cpp extras/ShellCommands.cpp)
qob_target(ElevationProbe)
target_link_libraries(ElevationProbe PRIVATE qob_forms qob_win32 shell32)
add_test(NAME wine.elevation COMMAND ${QOB_WINE_TESTS}/elevation_restart.sh $<TARGET_FILE:ElevationProbe>)
set_tests_properties(wine.elevation PROPERTIES RUN_SERIAL TRUE)

# The backup benchmark (BENCHMARKS.md); not a test.
add_executable(BackupBench tools/bench/BackupBench.cpp)
qob_target(BackupBench)
target_link_libraries(BackupBench PRIVATE qob_backup)

# The benchmark of the deletion of checked broken keys (BENCHMARKS.md); not
# a test.
add_executable(SectionDeleteBench tools/bench/SectionDeleteBench.cpp)
qob_target(SectionDeleteBench)
target_link_libraries(SectionDeleteBench PRIVATE qob_backup)
