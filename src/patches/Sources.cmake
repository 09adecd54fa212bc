target_sources(orvell_engine PRIVATE
  src/patches/PatchEntries.cpp
  src/patches/PatchFile.cpp
)
target_sources(orvell_widgets PRIVATE
  src/patches/PatchListPanel.cpp
  src/patches/PatchListPanelInput.cpp
  src/patches/RemotePatch.cpp
)
