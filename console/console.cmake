# The console program QobTessavinScan.exe: the registration scan written as
# text, and the restore of a removal's backup (--restore).
add_executable(QobTessavinScan console/QobTessavinScan.cpp console/ConsoleOutput.cpp)
qob_target(QobTessavinScan)
target_link_libraries(QobTessavinScan PRIVATE qob_win32 qob_backup shell32)
