target_sources(orvell_widgets PRIVATE
  src/patches/PatchListPanel.cpp
  src/patches/RemotePatch.cpp
)
