target_sources(orvell_engine PRIVATE
  src/patches/PatchEntries.cpp
  src/patches/PatchFile.cpp
  src/patches/SynthDB.cpp
)
target_sources(orvell_widgets PRIVATE
  src/patches/PatchGroup.cpp
  src/patches/PatchGroupEdit.cpp
  src/patches/PatchGroupInput.cpp
  src/patches/PatchListPanel.cpp
  src/patches/PatchListPanelInput.cpp
  src/patches/PatchPanel.cpp
  src/patches/RemotePatch.cpp
)
