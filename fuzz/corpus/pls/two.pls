[playlist]
numberofentries= 2
File1=/a.mp3
Title1=A
Length1=Unknown
File2=C:\x.ogg
Version=2
