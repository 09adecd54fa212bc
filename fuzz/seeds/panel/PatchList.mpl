
[PatchList]
Name=Patch List
Top=2850
Left=0
Color=-2147483633
Visible=True
Tag=4
WindowState=0

[PatchList Data]
BackPictFile=
IDIcon=37
IsOpaque=False
TextBackColor=-2147483633
FileName=
Channel=Chan
Port=port
CurPatch=-1
