[playlist]
NumberOfEntries=3
File2=b.mp3
Length2=-1
file3=file:///m/c%20d.mp3
LENGTH3=215
