target_sources(orvell_engine PRIVATE
  src/sequencer/PlayerClock.cpp
  src/sequencer/SequencePlayer.cpp
  src/sequencer/SmfReader.cpp
)
target_sources(orvell_widgets PRIVATE
  src/sequencer/SequencerPanel.cpp
)
