# The Windows zip: drayvane31-<version>-win64.zip, a folder of the same name
# holding drayvane31.exe, IronholdArt/ and README.txt. Made with
# `cpack --preset windows` after the windows build.
install(FILES ${PROJECT_SOURCE_DIR}/src/windows/README.txt DESTINATION .)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME drayvane31)
set(CPACK_PACKAGE_VENDOR "Drayvane 31")
set(CPACK_PACKAGE_FILE_NAME drayvane31-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
