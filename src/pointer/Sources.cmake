target_sources(orvell_engine PRIVATE
  src/pointer/PointerTargets.cpp
)
target_sources(orvell_widgets PRIVATE
  src/pointer/PanlPointer.cpp
)
