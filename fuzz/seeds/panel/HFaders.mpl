
[HFaders]
Name=Horizontal Faders
Top=0
Left=0
Color=-2147483633
Visible=True
Tag=1
WindowState=0

[HFaders Data]
BackPictFile=
IDIcon=33
IsOpaque=False
TextBackColor=-2147483633
Control=Contrl
ControlNum=0
FaderVal=64
PatchID=0
Channel=1
Port=1
Control=Contrl
ControlNum=0
FaderVal=64
PatchID=0
Channel=1
Port=1
Control=Contrl
ControlNum=0
FaderVal=64
PatchID=0
Channel=1
Port=1
Control=Contrl
ControlNum=0
FaderVal=64
PatchID=0
Channel=1
Port=1
