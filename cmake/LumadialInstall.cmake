# cmake --install: the program and its tools in bin/, its own libraries and helper in
# lib/<multiarch>/lumadial, its delivered data in share/lumadial. The program finds its data
# from where it lies (see platform/ProgramFolders.h). The desktop files: desktop/.
install(TARGETS lumadial lumacore-tool virtual-modem RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS lumacore waitpane LIBRARY DESTINATION ${LUMADIAL_INSTALL_LIBDIR})
# The wait window's helper is looked for beside libwaitpane.so.
install(TARGETS lumadial_waitpane_helper RUNTIME DESTINATION ${LUMADIAL_INSTALL_LIBDIR})

# The language library is code, so it lies with the libraries; the data folder links to it,
# where the program looks for it.
install(TARGETS lumadial_language_english LIBRARY DESTINATION ${LUMADIAL_INSTALL_LIBDIR}/language)
file(RELATIVE_PATH language_link /${LUMADIAL_INSTALL_DATADIR} /${LUMADIAL_INSTALL_LIBDIR}/language)
install(CODE "
  set(data \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${LUMADIAL_INSTALL_DATADIR}\")
  file(MAKE_DIRECTORY \"\${data}\")
  file(CREATE_LINK \"${language_link}\" \"\${data}/language\" SYMBOLIC)
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${data}/language\")")

install(DIRECTORY ${LUMADIAL_PROGRAM_DIR}/resource ${LUMADIAL_PROGRAM_DIR}/help
        DESTINATION ${LUMADIAL_INSTALL_DATADIR})
# The delivered settings: read-only defaults, copied to the user's folder when first changed.
install(FILES
  ${LUMADIAL_PROGRAM_DIR}/config.ran
  ${LUMADIAL_PROGRAM_DIR}/defaultcfg.ran
  ${LUMADIAL_PROGRAM_DIR}/allconfig.ran
  ${LUMADIAL_PROGRAM_DIR}/volconfig.ran
  DESTINATION ${LUMADIAL_INSTALL_DATADIR})

include(cmake/LumadialPackage.cmake)
