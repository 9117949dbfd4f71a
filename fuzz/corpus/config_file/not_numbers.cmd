baud=1e5
baud=-0
databit=+8.5
stopbit=  
