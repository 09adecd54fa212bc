target_sources(orvell_engine PRIVATE
  src/tools/IconFileTable.cpp
)
target_sources(orvell_widgets PRIVATE
  src/tools/HelpView.cpp
  src/tools/IconPalette.cpp
)
