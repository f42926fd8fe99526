# The edition tables, relative to the source root: built into the plug-ins and
# into the PiPL generator (also when that runs on the build machine of a
# cross build).
set(GW_EDITION_SOURCES
    host/full/full_edition.cpp
    host/showcase/showcase_edition.cpp
    host/quick/quick_edition.cpp)
