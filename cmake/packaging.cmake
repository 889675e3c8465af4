# The Debian package, made by scripts/make-deb.sh (cpack -G DEB in a Release build).
set(CPACK_PACKAGE_NAME vocanta)
set(CPACK_PACKAGE_VENDOR "The Vocanta developers")
# All four parts: CPack's default leaves out the tweak.
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${VOCANTA_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "synthesizer of sung and spoken vowels")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://vocanta.zarvekdata.example/")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)

set(CPACK_DEBIAN_PACKAGE_NAME vocanta)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${VOCANTA_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# dpkg-shlibdeps sees only the libraries the programs are linked with. libsndfile is
# loaded when an audio file is read or written, so the package names it itself, at the
# version its symbols file gives for the functions the programs call.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libsndfile1 (>= 1.0.20)")
# The long description; CPack puts the summary above it as the synopsis line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Vocanta synthesizes vowels by additive synthesis from parameter curves drawn
over time, partial number or frequency: F0 with vibrato and flutter, harmonic,
subharmonic and noise levels, spectral tilt, formants and their bandwidths.
One document may describe a whole series of stimuli, built into one sample,
WAV, FLAC or AIFF file with a label file. It is meant for voice scientists,
phoneticians and singing teachers.

The package holds the desktop program vocanta, the command-line tool
vocanta-cli for scripts and servers, the Python module vocanta, vowel templates
and examples.")
# The Python module rides in this package rather than in a python3-vocanta of its own: it
# is the core of this very build, so one package keeps the programs and the module at one
# version. It is built for Debian's python3 3.11 and needs NumPy to render; the desktop
# program and vocanta-cli need neither, so they are recommended only.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "python3 (>= 3.11), python3 (<< 3.12), python3-numpy")
# Directories in the package as dpkg expects them, whatever the builder's umask.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The changelog component is left out of a plain cmake --install; the package
# takes it together with everything else.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_COMPONENTS_ALL Unspecified debian)

include(CPack)
