# Debian packages with CPack's DEB generator, one per install component (see TarvoInstall.cmake).
# Depends are worked out from the binaries by dpkg-shlibdeps; tarvo-gui and libtarvo-dev depend
# on the very version of tarvo that carries their component. Make them from a build configured
# for /usr: scripts/pakete.sh.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarvo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "tarvo")
set(CPACK_PACKAGE_CONTACT "tarvo-Team <tarvo@example.org>")
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL tarvo libtarvo-dev)
if(TARGET tarvo-gui)
  list(APPEND CPACK_COMPONENTS_ALL tarvo-gui)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://tarvo.example.org/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The component's library lies in this build folder; dpkg-shlibdeps finds it there for the
# programs of the other packages (its dependency is the explicit one on tarvo below).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR})
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY "=")

set(CPACK_DEBIAN_TARVO_PACKAGE_NAME tarvo)
# The component's library: the library cache is renewed by dpkg's ldconfig trigger, not by
# maintainer scripts calling ldconfig (which CPack would write otherwise).
set(CPACK_DEBIAN_TARVO_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/data/debian/tarvo/triggers
  ${PROJECT_SOURCE_DIR}/data/debian/tarvo/postinst ${PROJECT_SOURCE_DIR}/data/debian/tarvo/postrm)
set(CPACK_DEBIAN_TARVO_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_TARVO_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_TARVO_PACKAGE_SUGGESTS "libreoffice-writer-nogui")
set(CPACK_COMPONENT_TARVO_DESCRIPTION
 "Vermessungsgebühren nach der sächsischen Gebührenordnung
tarvo berechnet Gebühren für Vermessungsleistungen nach der sächsischen
Gebührenordnung (Zerlegung, Gebäudeeinmessung, Vermessung nach Länge,
Grenzwiederherstellung, Abmarkung) und schreibt die Gebührenaufstellung, die
Auslagen und die Rechnungssumme in das Rechnungsdokument (.docx) und die
Auftragsdatenbank (SQLite).

Das Paket enthält das Kommandozeilenprogramm tarvo, die Komponente
libtarvo_03 mit ihrer C-Schnittstelle und die deutsche Hilfe.")

set(CPACK_DEBIAN_TARVO-GUI_PACKAGE_NAME tarvo-gui)
set(CPACK_DEBIAN_TARVO-GUI_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_TARVO-GUI_PACKAGE_DEPENDS "tarvo (= ${PROJECT_VERSION})")
# Qt's own dialogs in German; the preview renders the invoice with LibreOffice when it is there.
set(CPACK_DEBIAN_TARVO-GUI_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_TARVO-GUI_PACKAGE_SUGGESTS "libreoffice-writer-nogui")
set(CPACK_COMPONENT_TARVO-GUI_DESCRIPTION
 "Vermessungsgebühren nach der sächsischen Gebührenordnung - Arbeitsplatz
Die Arbeitsplatzanwendung tarvo-gui zeigt die Gebührenformulare der vier
Kategorien im Fenster, öffnet Rechnung und Auftragsdatenbank, speichert die
Rechnung und zeigt eine Vorschau. Die Hilfe öffnet sich mit F1.")

set(CPACK_DEBIAN_LIBTARVO-DEV_PACKAGE_NAME libtarvo-dev)
set(CPACK_DEBIAN_LIBTARVO-DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_LIBTARVO-DEV_PACKAGE_DEPENDS "tarvo (= ${PROJECT_VERSION})")
set(CPACK_DEBIAN_LIBTARVO-DEV_PACKAGE_SHLIBDEPS OFF)
set(CPACK_COMPONENT_LIBTARVO-DEV_DESCRIPTION
 "Vermessungsgebühren nach der sächsischen Gebührenordnung - Entwicklung
Kopfdatei tarvo/tarvo.h der C-Schnittstelle, pkg-config-Datei tarvo.pc und
das CMake-Paket tarvo (Ziel tarvo::tarvo_03), mit denen eine
Gastanwendung die Komponente libtarvo_03 einbindet.")
include(CPack)
