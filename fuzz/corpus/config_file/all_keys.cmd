port=2
baud=9600
parity=e
databit=7
stopbit=2
