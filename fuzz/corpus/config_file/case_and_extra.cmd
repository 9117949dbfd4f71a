 PORT = 3 
Baud=19200,5
parity= n =x
# comment
unknown=1
