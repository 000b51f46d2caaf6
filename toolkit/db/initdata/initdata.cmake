# The init-data blob (code-page maps, built-in SIMPLEX and GDT shapes) is
# generated at build time and compiled into the toolkit.
set(VT_INIT_DATA_SOURCES)
