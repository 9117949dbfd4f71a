port=40000
