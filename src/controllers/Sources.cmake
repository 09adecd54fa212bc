target_sources(orvell_engine PRIVATE
  src/controllers/AutoSettings.cpp
  src/controllers/ButtonModel.cpp
  src/controllers/Controllers.cpp
  src/controllers/FaderModel.cpp
  src/controllers/JoystickModel.cpp
  src/controllers/JoystickSystem.cpp
  src/controllers/SdlJoystickSystem.cpp
)
# The tests make virtual sticks with SDL itself.
target_link_libraries(orvell_engine PUBLIC PkgConfig::SDL2)
target_sources(orvell_widgets PRIVATE
  src/controllers/AutoDlgBox.cpp
  src/controllers/ButtonsPanel.cpp
  src/controllers/ButtonsPanelInput.cpp
  src/controllers/ButtonsPanelPlay.cpp
  src/controllers/CtrlEdit.cpp
  src/controllers/FaderPanel.cpp
  src/controllers/FaderPanelInput.cpp
  src/controllers/JstkCtrl.cpp
  src/controllers/SlotPanel.cpp
  src/controllers/SlotPanelButtons.cpp
  src/controllers/SlotPanelLearn.cpp
  src/controllers/SlotPanelLinks.cpp
)
