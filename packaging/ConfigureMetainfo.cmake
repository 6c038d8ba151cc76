# Writes the AppStream file from its template with the project's web addresses, leaving out the
# link (or the screenshot) whose address is empty. Included by packaging/CMakeLists.txt, and run
# by the packaging test as a script:
#   cmake -DMETAINFO_IN=… -DMETAINFO_OUT=… [-DQUIBSUM_HOMEPAGE_URL=…] [-DQUIBSUM_DONATE_URL=…]
#         [-DQUIBSUM_SCREENSHOT_URL=…] -P ConfigureMetainfo.cmake
set(METAINFO_URLS "")
if(NOT "${QUIBSUM_HOMEPAGE_URL}" STREQUAL "")
    string(APPEND METAINFO_URLS "  <url type=\"homepage\">${QUIBSUM_HOMEPAGE_URL}</url>\n")
endif()
if(NOT "${QUIBSUM_DONATE_URL}" STREQUAL "")
    string(APPEND METAINFO_URLS "  <url type=\"donation\">${QUIBSUM_DONATE_URL}</url>\n")
endif()
set(METAINFO_SCREENSHOTS "")
if(NOT "${QUIBSUM_SCREENSHOT_URL}" STREQUAL "")
    string(CONCAT METAINFO_SCREENSHOTS
        "  <screenshots>\n"
        "    <screenshot type=\"default\">\n"
        "      <caption>A sheet with its results column and the page total</caption>\n"
        "      <image type=\"source\" width=\"560\" height=\"360\">${QUIBSUM_SCREENSHOT_URL}</image>\n"
        "    </screenshot>\n"
        "  </screenshots>\n")
endif()
configure_file("${METAINFO_IN}" "${METAINFO_OUT}" @ONLY)
