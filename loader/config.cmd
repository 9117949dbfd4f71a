# Linea seriale del registratore: una chiave per riga, nella forma chiave, uguale, valore.
# Chiavi: port, baud, parity, databit, stopbit. Senza baud vale lo switch -LS o -HS.
port=1
parity=n
databit=8
stopbit=1
