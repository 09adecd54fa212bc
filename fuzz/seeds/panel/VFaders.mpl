
[VFaders]
Name=Vertical Faders
Top=0
Left=5190
Color=-2147483633
Visible=True
Tag=2
WindowState=0

[VFaders Data]
BackPictFile=
IDIcon=34
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
