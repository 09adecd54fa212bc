0
[VFaders]
Name=Pad
Top=300
Left=300
Color=-2147483633
Visible=True
Tag=5
WindowState=0

[VFaders Data]
Control=Pan
ControlNum=10
FaderVal=64
Channel=2
Port=0
